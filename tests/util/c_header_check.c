/* Compiled as C: the public header must be usable from C99 code. */
#include "vxUtil.h"

int vxtest_c_header_record_ok(void) {
    VXbuffer b;
    char text[64];
    vxUtilErrorString(VX_ERR_FILE, (int)sizeof text, text);
    return vxUtilInitializeVXbuffer(&b) == VX_OK && b.data == 0 && b.comment == 0 &&
           text[0] == 'u' && vxUtilFreeVXbuffer(&b) == VX_OK;
}
