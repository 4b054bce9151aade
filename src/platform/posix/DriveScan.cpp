#include "platform/DriveScan.h"

// There are no drive letters here: the list stays empty.
void ScanDrives(void (*)(const DriveFacts&, void*), void*) {}
