#include "platform/Controls.h"
#include "platform/RecordingControls.h"

// No dialogs here: the controls live in memory only.
Controls& SystemControls()
{
    static RecordingControls controls;
    return controls;
}
