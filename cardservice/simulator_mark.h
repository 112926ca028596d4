#pragma once

// How the card-reader simulator makes itself known, so that the station never takes it for the
// vendor's library. Plain macros: the simulator's resource script reads them too.

// Windows: the product name in the simulator's version resource, read from the file unloaded.
#define ZIROZE_SIMULATOR_PRODUCT_NAME "ZIROZE01 模擬讀卡機"

// Where libraries carry no version resource: a function that only the simulator exports.
#define ZIROZE_SIMULATOR_MARK_FUNCTION ZirozeCardReaderSimulator
#define ZIROZE_SIMULATOR_MARK_NAME "ZirozeCardReaderSimulator"
