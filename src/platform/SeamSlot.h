#pragma once

// Which implementation of a seam is in use: the system's, unless one was
// put in place (tests put fakes there).
template <typename Seam>
class SeamSlot {
public:
    Seam& Or(Seam& system) const { return seam_ ? *seam_ : system; }
    // Puts a seam in place (nullptr = the system's again); returns the one replaced.
    Seam* Replace(Seam* seam)
    {
        Seam* previous = seam_;
        seam_ = seam;
        return previous;
    }

private:
    Seam* seam_ = nullptr;
};
