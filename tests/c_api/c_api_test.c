/* Compiled as C: proves that the C-convention header is valid C and that every function it
 * declares links under its bare name. */
#include "BaseCommon/BaseCommonC.h"

#include <math.h>
#include <stdio.h>

static int near(double a, double b) {
    return fabs(a - b) < 1e-12;
}

int main(void) {
    int failures = 0;

    {
        /* Right triangle (1,0), (0,1), (0,0): the weights of p are (x, y, 1 - x - y). */
        double tri[6] = {1.0, 0.0, 0.0, 1.0, 0.0, 0.0};
        double p[2] = {0.25, 0.5};
        double w[3] = {0.0, 0.0, 0.0};
        double* r = AlgDzzlChazhi(tri, p, w);
        if (r != w || !near(w[0], 0.25) || !near(w[1], 0.5) || !near(w[2], 0.25)) {
            printf("AlgDzzlChazhi: got (%g, %g, %g)\n", w[0], w[1], w[2]);
            ++failures;
        }
    }

    {
        const double square[8] = {0, 0, 1, 0, 1, 1, 0, 1};
        if (!near(CalcuArea(square, 4), 1.0) || CalcuArea(square, 2) != -1.0) {
            printf("CalcuArea: got %g\n", CalcuArea(square, 4));
            ++failures;
        }
    }

    printf("%s\n", failures ? "FAILED" : "ok");
    return failures ? 1 : 0;
}
