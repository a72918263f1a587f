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

    {
        /* Unit square: diagonals cross at its centre; each diagonal triangle has the
         * perimeter 1 + sqrt(2). */
        const double x[4] = {0, 1, 1, 0}, y[4] = {0, 0, 1, 1}, z[4] = {0, 0, 0, 0};
        double cx = -1, cy = -1, cz = -1, girth = 0, tri[4] = {0, 0, 0, 0};
        Poly4_Cross(x, y, z, &cx, &cy, &cz);
        Poly4_Girth(x, y, z, &girth, tri);
        if (!near(cx, 0.5) || !near(cy, 0.5) || cz != 0.0 || !near(girth, 4.0) ||
            !near(tri[3], 1.0 + sqrt(2.0))) {
            printf("Poly4_Cross / Poly4_Girth: got (%g, %g, %g), %g, %g\n", cx, cy, cz, girth,
                   tri[3]);
            ++failures;
        }
    }

    {
        /* 2.0 rad is 114 whole degrees, folded by a half turn to -66. */
        const double half_pi = 1.5707963267948966;
        double a = 2.0, b = 2.0;
        double xy[2] = {1.0, 0.0};
        double xyz[3] = {1.0, 0.0, 7.0};
        double box[6] = {0, 0, 0, 0, 0, 0};
        int ok = AngleTo14(&a) == -66 && AngleTo14_EX(&b) == 1 && near(a, b);
        ok = ok && NormalDirection(0, 0, 0.002, -1, 0.001) == 1;
        ok = ok && GetDirectionType(0, 0, 0.0005, -1, 0.001) == 4;
        ok = ok && CordRankOK(1, 5, 1.0000005, 6) == 1;
        Rotate_AxisZ(xy, 1, half_pi);
        TransCordSys_AxisZ(xyz, 1, half_pi);
        GetMiniBox(xyz, 1, box, 0.5);
        ok = ok && fabs(xy[0]) < 1e-15 && near(xy[1], 1.0);
        ok = ok && fabs(xyz[0]) < 1e-15 && near(xyz[1], -1.0) && xyz[2] == 7.0;
        ok = ok && near(box[2], 6.5) && near(box[5], 7.5);
        ok = ok && Distpf_2d(0, 0, 3, 4) == 25.0 && Distpf_3d(0, 0, 0, 1, 2, 2) == 9.0;
        if (!ok) {
            printf("plane coordinate helpers: wrong result\n");
            ++failures;
        }
    }

    {
        /* A pile a quarter along a 2-node line; the soil along it splits half and half. */
        const double line[4] = {0, 0, 10, 0};
        const double pnt[2] = {2.5, 0};
        const double a[2] = {1, 2}, b[2] = {3, 4};
        double r[2] = {0, 0}, s[2] = {0, 0};
        double pile = 0.0, soil = 0.0;
        int ok = PileStiffEq(1, 2, line, pnt, 1.0, r) == 1 && near(r[0], 0.75);
        ok = ok && near(r[1], 0.25) && SoilStiffEq(1, 2, line, 1.0, s) == 1;
        ok = ok && near(s[0], 5.0) && near(s[1], 5.0);
        ok = ok && CalcuPileR(2, a, b, &pile) == 1 && pile == 11.0;
        ok = ok && CalcuSoilR(2, a, b, 2.0, &soil) == 1 && soil == 5.5;
        if (!ok) {
            printf("pile and soil springs: wrong result\n");
            ++failures;
        }
    }

    printf("%s\n", failures ? "FAILED" : "ok");
    return failures ? 1 : 0;
}
