/* Compiled as C: proves that the C-convention header is valid C and that every function it
 * declares links under its bare name. One result per function shows that the arguments reach
 * it as declared; the values themselves are the unit tests' business. */
#include "BaseCommon/BaseCommonC.h"

#include <math.h>
#include <stdio.h>

static int failures = 0;

#define CHECK(cond) ((cond) ? (void)0 : (void)(printf("failed: %s\n", #cond), ++failures))

static int near(double a, double b) {
    return fabs(a - b) < 1e-12;
}

int main(void) {
    /* Right triangle (1,0), (0,1), (0,0): the weights of p are (x, y, 1 - x - y). */
    double tri[6] = {1.0, 0.0, 0.0, 1.0, 0.0, 0.0}, p[2] = {0.25, 0.5}, w[3] = {0.0, 0.0, 0.0};
    CHECK(AlgDzzlChazhi(tri, p, w) == w && near(w[0], 0.25) && near(w[1], 0.5) && near(w[2], 0.25));

    const double square[8] = {0, 0, 1, 0, 1, 1, 0, 1};
    CHECK(near(CalcuArea(square, 4), 1.0) && CalcuArea(square, 2) == -1.0);

    /* Unit square: diagonals cross at its centre; each diagonal triangle has the perimeter
     * 1 + sqrt(2). */
    const double x[4] = {0, 1, 1, 0}, y[4] = {0, 0, 1, 1}, z[4] = {0, 0, 0, 0};
    double cx = -1, cy = -1, cz = -1, girth = 0, sides[4] = {0, 0, 0, 0};
    Poly4_Cross(x, y, z, &cx, &cy, &cz);
    Poly4_Girth(x, y, z, &girth, sides);
    CHECK(near(cx, 0.5) && near(cy, 0.5) && cz == 0.0);
    CHECK(near(girth, 4.0) && near(sides[3], 1.0 + sqrt(2.0)));

    /* 2.0 rad is 114 whole degrees, folded by a half turn to -66. */
    const double half_pi = 1.5707963267948966;
    double a = 2.0, b = 2.0, xy[2] = {1.0, 0.0}, xyz[3] = {1.0, 0.0, 7.0}, box[6] = {0};
    CHECK(AngleTo14(&a) == -66 && AngleTo14_EX(&b) == 1 && near(a, b));
    CHECK(NormalDirection(0, 0, 0.002, -1, 0.001) == 1);
    CHECK(GetDirectionType(0, 0, 0.0005, -1, 0.001) == 4);
    CHECK(CordRankOK(1, 5, 1.0000005, 6) == 1);
    Rotate_AxisZ(xy, 1, half_pi);
    TransCordSys_AxisZ(xyz, 1, half_pi);
    GetMiniBox(xyz, 1, box, 0.5);
    CHECK(fabs(xy[0]) < 1e-15 && near(xy[1], 1.0));
    CHECK(fabs(xyz[0]) < 1e-15 && near(xyz[1], -1.0) && xyz[2] == 7.0);
    CHECK(near(box[2], 6.5) && near(box[5], 7.5));
    CHECK(Distpf_2d(0, 0, 3, 4) == 25.0 && Distpf_3d(0, 0, 0, 1, 2, 2) == 9.0);

    /* A pile a quarter along a 2-node line; the soil along it splits half and half. */
    const double line[4] = {0, 0, 10, 0}, pnt[2] = {2.5, 0}, ka[2] = {1, 2}, kb[2] = {3, 4};
    double r[2] = {0, 0}, s[2] = {0, 0}, pile = 0.0, soil = 0.0;
    CHECK(PileStiffEq(1, 2, line, pnt, 1.0, r) == 1 && near(r[0], 0.75) && near(r[1], 0.25));
    CHECK(SoilStiffEq(1, 2, line, 1.0, s) == 1 && near(s[0], 5.0) && near(s[1], 5.0));
    CHECK(CalcuPileR(2, ka, kb, &pile) == 1 && pile == 11.0);
    CHECK(CalcuSoilR(2, ka, kb, 2.0, &soil) == 1 && soil == 5.5);

    printf("%s\n", failures ? "FAILED" : "ok");
    return failures ? 1 : 0;
}
