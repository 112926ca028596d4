// A card library that has the port operations and nothing else.
#include "cardservice/card_api.h"

#ifdef _WIN32
#define PARTIAL_EXPORT __declspec(dllexport)
#else
#define PARTIAL_EXPORT __attribute__((visibility("default")))
#endif

extern "C" {
PARTIAL_EXPORT int32_t CARD_API_CALL csOpenCom(int16_t) { return 0; }
PARTIAL_EXPORT int32_t CARD_API_CALL csCloseCom(void) { return 0; }
}
