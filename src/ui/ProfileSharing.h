#pragma once

#include "core/AppContext.h"

// Game profiles shared as files, from the main page, in the form vantorctl
// profile export writes and profile import reads, so that files go both
// ways between the two tools.

// "Import...": adds the profiles of a file the user chooses. A file with a
// damaged line is refused whole, with one message that lists each; a
// profile of a name the list holds replaces it only when the user says so.
// Nothing is sent to the board: an imported profile reaches it when the
// user selects it.
void ImportProfiles(AppContext& app, NativeHandle page);

// "Export...": writes the selected profile, or every profile when the user
// asks for all, to a file the user chooses.
void ExportProfiles(AppContext& app, NativeHandle page);
