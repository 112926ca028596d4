// A card library that has the port operations and nothing else.
#include "cardservice/card_api.h"

extern "C" {
__attribute__((visibility("default"))) int32_t CARD_API_CALL csOpenCom(int16_t) { return 0; }
__attribute__((visibility("default"))) int32_t CARD_API_CALL csCloseCom(void) { return 0; }
}
