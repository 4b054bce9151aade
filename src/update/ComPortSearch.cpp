#include "update/ComPortSearch.h"

// The port listing tool comes with firmware flashing; until then no port
// is found by its USB ids.
uint8_t FindComPortFromIds(uint16_t, uint16_t) { return 0; }
