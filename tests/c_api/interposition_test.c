/* A calling program that defines its own function under one of the library's bare names. The
 * program's CalcuArea must not replace the one the library calls inside SoilStiffEq: a plane
 * spring spread over a 2 x 2 square keeps its total dQ * 4. */
#include <math.h>
#include <stdio.h>

#include "BaseCommon/BaseCommonC.h"

double CalcuArea(const double* pdXY, int nPnt) {
    (void)pdXY;
    (void)nPnt;
    return 1e4;
}

int main(void) {
    const double square[8] = {0, 0, 2, 0, 2, 2, 0, 2};
    double node[4] = {0, 0, 0, 0};
    double total = 0.0;
    int i;
    if (CalcuArea(square, 4) != 1e4) {
        printf("the program's own CalcuArea is not the one it calls\n");
        return 1;
    }
    SoilStiffEq(2, 4, square, 10.0, node);
    for (i = 0; i < 4; ++i)
        total += node[i];
    if (fabs(total - 40.0) > 1e-9) {
        printf("SoilStiffEq spread %g instead of 40: the library called the program's CalcuArea\n",
               total);
        return 1;
    }
    return 0;
}
