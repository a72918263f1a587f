// rvn-pile-raft: a foundation grillage on piles.
//
// A plan of beam centre lines, piles and columns is read from text; the beam lines are split
// where they meet and the closed panels between them are found; every beam is divided into
// elements with three degrees of freedom per node (deflection w, downward positive, and the
// two slopes dw/dx, dw/dy); piles are springs on the nodes; column loads and panel area loads
// are brought to the nodes; the stiffness is assembled into a skyline matrix and every load
// case is solved at once.
//
// Units: metres, kilonewtons, kilopascals (kN/m^2). The concrete grade is the cube strength
// in MPa (CONCRETE 30 is C30).
#ifndef RVN_EXAMPLES_PILERAFT_H
#define RVN_EXAMPLES_PILERAFT_H

#include <iosfwd>
#include <stdexcept>
#include <string>
#include <vector>

namespace pileraft {

// Bad input: the message names the plan line (line 0: the plan as a whole).
class InputError : public std::runtime_error {
public:
    InputError(int line, const std::string& what);
    int m_line;
};

// A plan that reads well but cannot be solved (a mechanism: too few piles, a beam group
// without piles).
class AnalysisError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct Point2 {
    double x = 0.0;
    double y = 0.0;
};

struct BeamLine {
    Point2 a, b;
    int line = 0;  // plan line it came from
};

struct PileInput {
    Point2 p;
    double k = 0.0;  // vertical stiffness, kN/m
    int line = 0;
};

struct ColumnInput {
    Point2 p;
    std::vector<double> loads;  // kN per load case, downward positive
    int line = 0;
};

struct Plan {
    double grade = 30.0;   // concrete cube strength, MPa
    double b = 0.4;        // beam width, m
    double h = 0.8;        // beam depth, m
    double meshLen = 1.0;  // longest element, m
    std::vector<BeamLine> beams;
    std::vector<PileInput> piles;
    std::vector<ColumnInput> columns;
    std::vector<double> areaLoads;  // kPa per load case on every panel (empty: none)
    int nCases = 0;
};

// Reads a plan; throws InputError for an unknown keyword, a missing or extra field, a value
// that is not a number or out of range, or load lines with differing case counts.
Plan ReadPlan(std::istream& in);
// The plan run when no file is given: three by two bays on twelve piles, three load cases.
extern const char* const kDefaultPlan;
// The input format, for --help.
extern const char* const kPlanFormat;

struct Node {
    double x = 0.0;
    double y = 0.0;
};

struct Element {
    int n1 = 0;
    int n2 = 0;
    double length = 0.0;
};

struct ColumnInPanel {
    int column = 0;  // index into Plan::columns
    bool onEdge = false;
};

struct Panel {
    std::vector<Point2> corners;
    double area = 0.0;
    double girth = 0.0;
    Point2 centroid;
    std::vector<ColumnInPanel> columns;
};

struct PileResult {
    int node = 0;                  // node the pile stands on
    std::vector<double> reaction;  // kN per load case
};

struct CaseResult {
    double totalLoad = 0.0;
    double grossLoad = 0.0;  // sum of the loads' magnitudes: the scale of the equilibrium check
    double totalReaction = 0.0;
    double maxDeflection = 0.0;  // m, largest |w|
    int maxNode = -1;
};

struct Result {
    double E = 0.0;  // kN/m^2
    double I = 0.0;  // m^4, bending about the horizontal axis
    double J = 0.0;  // m^4, torsion constant
    std::vector<Node> nodes;
    std::vector<Element> elements;
    std::vector<Panel> panels;
    std::vector<std::vector<double>> w;  // deflection per load case per node, m
    std::vector<PileResult> piles;       // in the order of Plan::piles
    std::vector<CaseResult> cases;
    int nDof = 0;
    long long profileInput = 0;   // stored matrix entries with nodes in the order found
    long long profileSolved = 0;  // after reverse Cuthill-McKee renumbering
};

// Builds and solves the model; throws InputError for geometry the model cannot take (a pile
// off every beam, overlapping beams, a column on no beam and in no panel) and AnalysisError
// for a mechanism.
Result Analyse(const Plan& plan);

void PrintReport(std::ostream& out, const Plan& plan, const Result& result);
// A plan picture for a browser: panels shaded, beams coloured by deflection, piles sized by
// reaction, columns marked; loadCase is 0-based.
void WriteSvg(std::ostream& out, const Plan& plan, const Result& result, int loadCase);

}  // namespace pileraft

#endif  // RVN_EXAMPLES_PILERAFT_H
