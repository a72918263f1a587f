// rvn-pile-raft: a foundation grillage on piles.
//
// A plan of beam centre lines, piles and columns is read from text; the beam lines are split
// where they meet and the closed panels between them are found; every beam is divided into
// elements with three degrees of freedom per node (deflection w, downward positive, and the
// two slopes dw/dx, dw/dy); piles are springs on the nodes; column loads go to the nodes and
// panel area loads become uniform line loads on the panels' border elements; the stiffness
// is assembled into a skyline matrix and every load case is solved at once.
//
// Units: metres, kilonewtons, kilopascals (kN/m^2). The concrete grade is the cube strength
// in MPa (CONCRETE 30 is C30).
//
// Sign convention of the results: deflection w and loads are positive downward (a positive
// deflection is a settlement, a negative one an uplift); a pile reaction is positive in
// compression. Along an element from its first node to its second (s from 0 to L): bending
// moment M positive in sagging (tension at the bottom face), shear V = dM/ds, and torque
// T = GJ d(dw/dn)/ds, the rate along the element of the cross slope dw/dn to its left.
#ifndef RVN_EXAMPLES_PILERAFT_H
#define RVN_EXAMPLES_PILERAFT_H

#include <functional>
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

// A plan that reads well but cannot be solved soundly: a mechanism (too few piles, a beam
// group without piles), a result out of the range of doubles, or a solution that fails its
// own equilibrium check.
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
    std::vector<double> loads;  // uniform load per load case, kN/m downward (empty: none)
    int line = 0;               // plan line it came from
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

// Input limits: beyond them a plan is refused at the line that gives the value.
constexpr double kMaxCoordinate = 1e9;      // m: the point tolerance 1e-6 m stays resolvable
constexpr double kMaxSection = 100.0;       // m, beam width and depth
constexpr double kMaxLoad = 1e12;           // kN per column, kPa per area load
constexpr double kMaxPileStiffness = 1e15;  // kN/m
constexpr int kMaxLoadCases = 1000;
constexpr int kMaxCaseName = 40;  // characters

struct Plan {
    std::string title;     // TITLE line (empty: none)
    double grade = 30.0;   // concrete cube strength, MPa
    double b = 0.4;        // beam width, m
    double h = 0.8;        // beam depth, m
    double meshLen = 1.0;  // longest element, m
    std::vector<BeamLine> beams;
    std::vector<PileInput> piles;
    std::vector<ColumnInput> columns;
    std::vector<double> areaLoads;       // kPa per load case on every panel (empty: none)
    std::vector<std::string> caseNames;  // CASE line; empty: "1", "2", ...
    int nCases = 0;
};

// Reads a plan; throws InputError for an unknown keyword, a missing or extra field, a value
// that is not a number or out of range, or load lines with differing case counts.
Plan ReadPlan(std::istream& in);
// Writes a plan in the input format, every number to full precision, so that ReadPlan gives
// it back unchanged.
void WritePlan(std::ostream& out, const Plan& plan);
// The name of load case lc (0-based): its CASE name, else its number from 1.
std::string CaseName(const Plan& plan, int lc);
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
    std::vector<Point2> corners;             // outer boundary, anticlockwise
    std::vector<std::vector<Point2>> holes;  // openings inside it, each anticlockwise
    double area = 0.0;                       // net of the openings
    double girth = 0.0;
    Point2 centroid;
    std::vector<ColumnInPanel> columns;
};

struct PileResult {
    int node = 0;                    // node the pile stands on
    std::vector<double> reaction;    // kN per load case, compression positive
    std::vector<double> settlement;  // m per load case, downward positive
};

// Internal forces at both ends of an element (index 0 at n1, 1 at n2), signs as above.
struct EndForces {
    double moment[2] = {0.0, 0.0};  // kNm
    double shear[2] = {0.0, 0.0};   // kN
    double torque[2] = {0.0, 0.0};  // kNm
};

// The largest magnitude of a quantity over a load case, and where it occurs.
struct Extreme {
    double value = 0.0;  // signed
    int element = -1;    // element, or node for deflections, pile for reactions
    int end = 0;         // element end (0 or 1)
};

struct CaseResult {
    double totalLoad = 0.0;
    double grossLoad = 0.0;  // sum of the loads' magnitudes: the scale of the equilibrium check
    double totalReaction = 0.0;
    // Moments about the x axis (of forces times y) and the y axis (forces times x), kNm, of
    // the loads as applied to the beams and of the pile reactions.
    double loadMomentX = 0.0, loadMomentY = 0.0;
    double reactionMomentX = 0.0, reactionMomentY = 0.0;
    double grossMoment = 0.0;    // gross load times the plan size: the scale of the moment check
    double maxDeflection = 0.0;  // m, largest |w|
    int maxNode = -1;
    Extreme deflection, reaction, moment, shear, torque;
};

struct Result {
    double E = 0.0;  // kN/m^2
    double I = 0.0;  // m^4, bending about the horizontal axis
    double J = 0.0;  // m^4, torsion constant
    std::vector<Node> nodes;
    std::vector<Element> elements;
    std::vector<Panel> panels;
    std::vector<std::vector<double>> w;          // deflection per load case per node, m
    std::vector<std::vector<EndForces>> forces;  // per load case per element
    std::vector<PileResult> piles;               // in the order of Plan::piles
    std::vector<CaseResult> cases;
    int nDof = 0;
    long long profileInput = 0;         // stored matrix entries with nodes in the order found
    long long profileSolved = 0;        // after the library's renumbering
    std::string ordering;               // the renumbering that gave it
    std::vector<std::string> warnings;  // sound but doubtful: an ill-conditioned matrix
};

// Relative equilibrium errors of a load case: force against the gross load, moment against
// the gross load times the plan size. A run is refused when either exceeds this.
constexpr double kEquilibriumTolerance = 1e-9;
double ForceError(const CaseResult& c);
double MomentError(const CaseResult& c);

// Told the name of each stage as it starts, and during the factorisation the fraction of its
// rows done.
using Progress = std::function<void(const char* stage, double fraction)>;

// Builds and solves the model; throws InputError for geometry the model cannot take (a pile
// off every beam, overlapping beams, a column on no beam and in no panel, a plan too large) and
// AnalysisError for a mechanism, a result out of range or a solution out of equilibrium.
Result Analyse(const Plan& plan, const Progress& progress = Progress());

// The full report; with summary, only the model line and per load case its extremes and
// equilibrium checks.
void PrintReport(std::ostream& out, const Plan& plan, const Result& result, bool summary = false);
// A plan picture for a browser: panels shaded, beams coloured by deflection, piles sized by
// reaction, columns marked; loadCase is 0-based.
void WriteSvg(std::ostream& out, const Plan& plan, const Result& result, int loadCase);

}  // namespace pileraft

#endif  // RVN_EXAMPLES_PILERAFT_H
