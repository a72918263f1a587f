#include "BaseCommon/engineering/PileSoilStiff.h"

#include <cmath>

#include "BaseCommon/BaseCommonC.h"
#include "BaseCommon/faces/PolyHelpers.h"

namespace {

// A 2-node line whose ends differ by no more than this in x is taken as vertical, and its
// natural coordinate is measured along y.
constexpr double kVerticalTol = 1e-6;

// Starting best squared distance of the sampled searches: a point this far from every sample
// finds none, and the search answers the index -1.
constexpr double kNoSample = 1e10;

// Samples per direction: 21 along a line (-1.0 to 1.0), 31 over a quadrilateral (-1.0 to 2.0).
constexpr int kLineSamples = 21;
constexpr int kQuadSamples = 31;

constexpr int kMaxNodes = 4;

double SampleCoord(int k) {
    return k / 10.0 - 1.0;
}

// Line shape functions at xi for 2, 3 or 4 nodes; zeros for any other count.
void LineShape(int nNode, double xi, double N[kMaxNodes]) {
    N[0] = N[1] = N[2] = N[3] = 0.0;
    switch (nNode) {
        case 2:
            N[0] = (1.0 - xi) / 2.0;
            N[1] = (1.0 + xi) / 2.0;
            break;
        case 3:
            N[0] = -xi * (1.0 - xi) / 2.0;
            N[1] = xi * (1.0 + xi) / 2.0;
            N[2] = 1.0 - xi * xi;
            break;
        case 4:
            N[0] = (1.0 - xi) * (9.0 * xi * xi - 1.0) / 16.0;
            N[1] = (1.0 + xi) * (9.0 * xi * xi - 1.0) / 16.0;
            N[2] = 9.0 * (3.0 * xi - 1.0) * (xi * xi - 1.0) / 16.0;
            N[3] = -9.0 * (3.0 * xi + 1.0) * (xi * xi - 1.0) / 16.0;
            break;
        default:
            break;
    }
}

// Plane shape functions: area coordinates for 3 nodes, bilinear for 4; zeros otherwise.
void PlaneShape(int nNode, double xi, double eta, double N[kMaxNodes]) {
    N[0] = N[1] = N[2] = N[3] = 0.0;
    if (nNode == 3) {
        N[0] = xi;
        N[1] = eta;
        N[2] = 1.0 - xi - eta;
    } else if (nNode == 4) {
        N[0] = (1.0 - xi) * (1.0 - eta) / 4.0;
        N[1] = (1.0 + xi) * (1.0 - eta) / 4.0;
        N[2] = (1.0 + xi) * (1.0 + eta) / 4.0;
        N[3] = (1.0 - xi) * (1.0 + eta) / 4.0;
    }
}

// Squared distance from the point to the image of the natural coordinates whose shape
// functions are N, summed over the nodes in node order.
double MappedDist2(int nNode, const double N[kMaxNodes], const double* xy, const double* p) {
    double x = 0.0;
    double y = 0.0;
    for (int i = 0; i < nNode; ++i) {
        x += N[i] * xy[2 * i];
        y += N[i] * xy[2 * i + 1];
    }
    return (p[0] - x) * (p[0] - x) + (p[1] - y) * (p[1] - y);
}

double LineNaturalCoord(int nNode, const double* xy, const double* p) {
    if (nNode == 2) {
        const double x1 = xy[0], y1 = xy[1], x2 = xy[2], y2 = xy[3];
        if (std::fabs(x2 - x1) > kVerticalTol)
            return (2.0 * p[0] - (x1 + x2)) / (x2 - x1);
        return (2.0 * p[1] - (y1 + y2)) / (y2 - y1);
    }
    if (nNode != 3 && nNode != 4)
        return 0.0;
    // Curved lines have no closed-form inverse; the nearest of the samples is taken, and only
    // a strictly nearer sample replaces the best, so the lowest xi wins a tie.
    double dBest = kNoSample;
    int kBest = -1;
    double N[kMaxNodes];
    for (int k = 0; k < kLineSamples; ++k) {
        LineShape(nNode, SampleCoord(k), N);
        const double d = MappedDist2(nNode, N, xy, p);
        if (d < dBest) {
            dBest = d;
            kBest = k;
        }
    }
    return SampleCoord(kBest);
}

void PlaneNaturalCoord(int nNode, const double* xy, const double* p, double& xi, double& eta) {
    xi = 0.0;
    eta = 0.0;
    if (nNode == 3) {
        const double D = xy[0] - xy[4], E = xy[2] - xy[4];
        const double B = xy[1] - xy[5], F = xy[3] - xy[5];
        const double A = p[0] - xy[4], C = p[1] - xy[5];
        xi = (A * F - E * C) / (D * F - E * B);
        eta = (D * C - A * B) / (D * F - E * B);
        return;
    }
    if (nNode != 4)
        return;
    // The grid spans -1.0 to 2.0 in both directions, not the element's -1 to 1: a point past a
    // +1 side maps past it, one past a -1 side stops at -1. The span and the tie rule (first
    // minimum in xi-major order) are kept so that nodal loads match those callers have stored.
    double dBest = kNoSample;
    int iBest = -1;
    int jBest = -1;
    double N[kMaxNodes];
    for (int i = 0; i < kQuadSamples; ++i) {
        for (int j = 0; j < kQuadSamples; ++j) {
            PlaneShape(nNode, SampleCoord(i), SampleCoord(j), N);
            const double d = MappedDist2(nNode, N, xy, p);
            if (d < dBest) {
                dBest = d;
                iBest = i;
                jBest = j;
            }
        }
    }
    xi = SampleCoord(iBest);
    eta = SampleCoord(jBest);
}

// Node i gets N_i * dK; nodes past the fourth (an unsupported count) have N = 0.
void WriteNodal(int nNode, const double N[kMaxNodes], double dK, double* pdResult) {
    for (int i = 0; i < nNode; ++i)
        pdResult[i] = (i < kMaxNodes ? N[i] : 0.0) * dK;
}

void NodeAverage(int nNode, const double* xy, double c[2]) {
    c[0] = c[1] = 0.0;
    if (nNode < 1)
        return;
    for (int i = 0; i < nNode; ++i) {
        c[0] += xy[2 * i];
        c[1] += xy[2 * i + 1];
    }
    c[0] /= nNode;
    c[1] /= nNode;
}

}  // namespace

int PileStiffEq(int nType, int nNode, const double* pdNodeXY, const double* pdPnt, double dK,
                double* pdResult) {
    double N[kMaxNodes];
    switch (nType) {
        case 0:
            pdResult[0] = dK;
            return 1;
        case 1:
            LineShape(nNode, LineNaturalCoord(nNode, pdNodeXY, pdPnt), N);
            WriteNodal(nNode, N, dK, pdResult);
            return 1;
        case 2: {
            double xi = 0.0;
            double eta = 0.0;
            PlaneNaturalCoord(nNode, pdNodeXY, pdPnt, xi, eta);
            PlaneShape(nNode, xi, eta, N);
            WriteNodal(nNode, N, dK, pdResult);
            return 1;
        }
        default:
            return 0;
    }
}

int SoilStiffEq(int nType, int nNode, const double* pdNodeXY, double dQ, double* pdResult) {
    if (nType != 1 && nType != 2)
        return 1;
    double c[2];
    NodeAverage(nNode, pdNodeXY, c);
    if (nType == 1) {
        // The ends of every line element are its nodes 1 and 2 (3- and 4-node lines list their
        // inner nodes after the ends); measuring to the last node listed would take only half
        // a 3-node line, or two thirds of a 4-node one.
        double dLen = -1.0;
        if (nNode >= 2) {
            const double dx = pdNodeXY[2] - pdNodeXY[0];
            const double dy = pdNodeXY[3] - pdNodeXY[1];
            dLen = std::sqrt(dx * dx + dy * dy);
        }
        PileStiffEq(1, nNode, pdNodeXY, c, dLen * dQ, pdResult);
    } else {
        PileStiffEq(2, nNode, pdNodeXY, c, CalcuArea(pdNodeXY, nNode) * dQ, pdResult);
    }
    return 1;
}

int CalcuPileR(int n, const double* pdA, const double* pdB, double* pdR) {
    *pdR = 0.0;
    for (int i = 0; i < n; ++i)
        *pdR += pdA[i] * pdB[i];
    return 1;
}

int CalcuSoilR(int n, const double* pdA, const double* pdB, double dDiv, double* pdR) {
    CalcuPileR(n, pdA, pdB, pdR);
    *pdR /= dDiv;
    return 1;
}
