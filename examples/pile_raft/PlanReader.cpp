// Plan text: one keyword and its values per line, '#' starts a comment. Fields are read with
// the library's field reader; every value must be a whole number token.
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <istream>
#include <ostream>
#include <string>

#include "BaseCommon/numeric/ReadTxt.h"
#include "PileRaft.h"

namespace pileraft {

InputError::InputError(int line, const std::string& what)
    : std::runtime_error(line > 0 ? "plan line " + std::to_string(line) + ": " + what
                                  : "plan: " + what),
      m_line(line) {}

namespace {

// A token echoed in a message is cut to this many characters: a plan may hold anything.
constexpr size_t kMaxEcho = 40;

std::string Echo(const std::string& token) {
    return token.size() <= kMaxEcho ? token : token.substr(0, kMaxEcho) + "...";
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r';
}

// The blank-separated fields of one line.
std::vector<std::string> Fields(const std::string& text) {
    const CString line(text);
    std::vector<std::string> fields;
    int pos = 0;
    for (;;) {
        while (pos < line.GetLength() && IsBlank(line.GetAt(pos)))
            ++pos;
        if (pos >= line.GetLength())
            break;
        const CString word = ReadTxt::ReadString(pos, line);
        fields.emplace_back(word.GetString(), static_cast<size_t>(word.GetLength()));
    }
    return fields;
}

// The field reader skips anything that cannot start a number, so a stray word would be
// passed over silently: accept a field only when the reader consumes all of it and the
// standard conversion agrees.
double Number(const std::string& field, int line, const char* what) {
    const CString text(field);
    int pos = 0;
    const bool startsNumber =
        !field.empty() && (std::isdigit(static_cast<unsigned char>(field[0])) || field[0] == '+' ||
                           field[0] == '-' || field[0] == '.');
    const double v = startsNumber ? ReadTxt::ReadDouble(pos, text) : 0.0;
    char* end = nullptr;
    const double check = std::strtod(field.c_str(), &end);
    if (!startsNumber || pos != text.GetLength() || end != field.c_str() + field.size() ||
        !std::isfinite(v) || v != check)
        throw InputError(line, std::string(what) + ": '" + Echo(field) + "' is not a number");
    return v;
}

// A number no larger in magnitude than limit.
double Bounded(const std::string& field, int line, const char* what, double limit,
               const char* unit) {
    const double v = Number(field, line, what);
    if (std::fabs(v) > limit) {
        char buf[160];
        std::snprintf(buf, sizeof buf, "%s %g is out of range (at most %g %s in size)", what, v,
                      limit, unit);
        throw InputError(line, buf);
    }
    return v;
}

Point2 Position(const std::string& x, const std::string& y, int line, const char* xs,
                const char* ys) {
    return {Bounded(x, line, xs, kMaxCoordinate, "m"), Bounded(y, line, ys, kMaxCoordinate, "m")};
}

double Positive(const std::string& field, int line, const char* what, double limit,
                const char* unit) {
    const double v = Bounded(field, line, what, limit, unit);
    if (!(v > 0.0))
        throw InputError(line, std::string(what) + " must be positive");
    return v;
}

// Loads per case from field first on.
std::vector<double> Loads(const std::vector<std::string>& f, size_t first, int line,
                          const char* what, const char* unit) {
    std::vector<double> loads;
    for (size_t i = first; i < f.size(); ++i)
        loads.push_back(Bounded(f[i], line, what, kMaxLoad, unit));
    return loads;
}

std::string Upper(std::string s) {
    for (char& c : s)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

}  // namespace

Plan ReadPlan(std::istream& in) {
    Plan plan;
    int caseLine = 0;  // the line that fixed the number of load cases
    bool sawArea = false;
    std::string text;
    int line = 0;
    auto setCases = [&](int n) {
        if (n > kMaxLoadCases)
            throw InputError(line, std::to_string(n) + " load cases: at most " +
                                       std::to_string(kMaxLoadCases) + " are allowed");
        if (plan.nCases == 0) {
            plan.nCases = n;
            caseLine = line;
        } else if (n != plan.nCases) {
            throw InputError(line, std::to_string(n) + " load values, but line " +
                                       std::to_string(caseLine) + " gives " +
                                       std::to_string(plan.nCases));
        }
    };

    while (std::getline(in, text)) {
        ++line;
        const size_t hash = text.find('#');
        if (hash != std::string::npos)
            text.erase(hash);
        const std::vector<std::string> f = Fields(text);
        if (f.empty())
            continue;
        const std::string key = Upper(f[0]);
        const size_t nValues = f.size() - 1;
        auto need = [&](size_t n, const char* form) {
            if (nValues != n)
                throw InputError(line, key + " takes " + std::to_string(n) + " values (" + form +
                                           "), found " + std::to_string(nValues));
        };

        if (key == "TITLE") {
            const size_t at = text.find_first_not_of(" \t", text.find_first_not_of(" \t") + 5);
            plan.title = at == std::string::npos ? "" : text.substr(at);
            while (!plan.title.empty() && IsBlank(plan.title.back()))
                plan.title.pop_back();
            if (plan.title.size() > 200)
                throw InputError(line, "TITLE is longer than 200 characters");
        } else if (key == "CASE") {
            if (!plan.caseNames.empty())
                throw InputError(line, "CASE given twice");
            if (nValues < 1)
                throw InputError(line, "CASE takes one name per load case, found none");
            for (size_t i = 1; i < f.size(); ++i) {
                if (f[i].size() > static_cast<size_t>(kMaxCaseName))
                    throw InputError(line, "load case name '" + Echo(f[i]) + "' is longer than " +
                                               std::to_string(kMaxCaseName) + " characters");
                plan.caseNames.push_back(f[i]);
            }
            setCases(static_cast<int>(nValues));
        } else if (key == "CONCRETE") {
            need(1, "grade");
            plan.grade = Number(f[1], line, "concrete grade");
            if (plan.grade < 15.0 || plan.grade > 80.0)
                throw InputError(line, "concrete grade must lie between C15 and C80");
        } else if (key == "SECTION") {
            need(2, "b h");
            plan.b = Positive(f[1], line, "section width", kMaxSection, "m");
            plan.h = Positive(f[2], line, "section depth", kMaxSection, "m");
        } else if (key == "MESH") {
            need(1, "maxlen");
            plan.meshLen = Positive(f[1], line, "mesh length", kMaxCoordinate, "m");
        } else if (key == "LINE") {
            if (nValues < 4)
                throw InputError(line,
                                 "LINE takes 4 values (x1 y1 x2 y2) and a load per case, "
                                 "found " +
                                     std::to_string(nValues));
            BeamLine b;
            b.a = Position(f[1], f[2], line, "x1", "y1");
            b.b = Position(f[3], f[4], line, "x2", "y2");
            b.loads = Loads(f, 5, line, "line load", "kN/m");
            b.line = line;
            if (!b.loads.empty())
                setCases(static_cast<int>(b.loads.size()));
            if (std::hypot(b.b.x - b.a.x, b.b.y - b.a.y) < 1e-6)
                throw InputError(line, "beam line has no length");
            plan.beams.push_back(b);
        } else if (key == "PILE") {
            need(3, "x y k");
            PileInput p;
            p.p = Position(f[1], f[2], line, "x", "y");
            p.k = Positive(f[3], line, "pile stiffness", kMaxPileStiffness, "kN/m");
            p.line = line;
            plan.piles.push_back(p);
        } else if (key == "COLUMN") {
            if (nValues < 3)
                throw InputError(line, "COLUMN takes x y and one load per case, found " +
                                           std::to_string(nValues) + " values");
            ColumnInput c;
            c.p = Position(f[1], f[2], line, "x", "y");
            c.loads = Loads(f, 3, line, "load", "kN");
            c.line = line;
            setCases(static_cast<int>(c.loads.size()));
            plan.columns.push_back(c);
        } else if (key == "AREA") {
            if (sawArea)
                throw InputError(line, "AREA given twice");
            if (nValues < 1)
                throw InputError(line, "AREA takes one load per case, found none");
            plan.areaLoads = Loads(f, 1, line, "area load", "kPa");
            setCases(static_cast<int>(plan.areaLoads.size()));
            sawArea = true;
        } else {
            throw InputError(line, "unknown keyword '" + Echo(f[0]) + "'");
        }
    }
    if (plan.beams.empty())
        throw InputError(0, "no LINE: the plan has no beams");
    if (plan.nCases == 0)
        throw InputError(0, "no load case: give COLUMN, AREA or LINE loads");
    return plan;
}

std::string CaseName(const Plan& plan, int lc) {
    if (lc >= 0 && lc < static_cast<int>(plan.caseNames.size()))
        return plan.caseNames[static_cast<size_t>(lc)];
    return std::to_string(lc + 1);
}

namespace {

// The shortest form that reads back to the same double.
std::string Num(double v) {
    char buf[32];
    for (int digits = 6; digits <= 17; ++digits) {
        std::snprintf(buf, sizeof buf, "%.*g", digits, v);
        if (std::strtod(buf, nullptr) == v)
            break;
    }
    return buf;
}

}  // namespace

void WritePlan(std::ostream& out, const Plan& plan) {
    if (!plan.title.empty())
        out << "TITLE " << plan.title << "\n";
    if (!plan.caseNames.empty()) {
        out << "CASE";
        for (const std::string& n : plan.caseNames)
            out << " " << n;
        out << "\n";
    }
    out << "CONCRETE " << Num(plan.grade) << "\nSECTION " << Num(plan.b) << " " << Num(plan.h)
        << "\nMESH " << Num(plan.meshLen) << "\n";
    for (const BeamLine& b : plan.beams) {
        out << "LINE " << Num(b.a.x) << " " << Num(b.a.y) << " " << Num(b.b.x) << " " << Num(b.b.y);
        for (double q : b.loads)
            out << " " << Num(q);
        out << "\n";
    }
    for (const PileInput& p : plan.piles)
        out << "PILE " << Num(p.p.x) << " " << Num(p.p.y) << " " << Num(p.k) << "\n";
    for (const ColumnInput& c : plan.columns) {
        out << "COLUMN " << Num(c.p.x) << " " << Num(c.p.y);
        for (double q : c.loads)
            out << " " << Num(q);
        out << "\n";
    }
    if (!plan.areaLoads.empty()) {
        out << "AREA";
        for (double q : plan.areaLoads)
            out << " " << Num(q);
        out << "\n";
    }
}

}  // namespace pileraft
