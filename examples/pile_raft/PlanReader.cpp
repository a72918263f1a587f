// Plan text: one keyword and its values per line, '#' starts a comment. Fields are read with
// the library's field reader; every value must be a whole number token.
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <istream>
#include <string>

#include "BaseCommon/numeric/ReadTxt.h"
#include "PileRaft.h"

namespace pileraft {

InputError::InputError(int line, const std::string& what)
    : std::runtime_error(line > 0 ? "plan line " + std::to_string(line) + ": " + what
                                  : "plan: " + what),
      m_line(line) {}

namespace {

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
        throw InputError(line, std::string(what) + ": '" + field + "' is not a number");
    return v;
}

double Positive(const std::string& field, int line, const char* what) {
    const double v = Number(field, line, what);
    if (!(v > 0.0))
        throw InputError(line, std::string(what) + " must be positive");
    return v;
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

        if (key == "CONCRETE") {
            need(1, "grade");
            plan.grade = Number(f[1], line, "concrete grade");
            if (plan.grade < 15.0 || plan.grade > 80.0)
                throw InputError(line, "concrete grade must lie between C15 and C80");
        } else if (key == "SECTION") {
            need(2, "b h");
            plan.b = Positive(f[1], line, "section width");
            plan.h = Positive(f[2], line, "section depth");
        } else if (key == "MESH") {
            need(1, "maxlen");
            plan.meshLen = Positive(f[1], line, "mesh length");
        } else if (key == "LINE") {
            need(4, "x1 y1 x2 y2");
            BeamLine b;
            b.a = {Number(f[1], line, "x1"), Number(f[2], line, "y1")};
            b.b = {Number(f[3], line, "x2"), Number(f[4], line, "y2")};
            b.line = line;
            if (std::hypot(b.b.x - b.a.x, b.b.y - b.a.y) < 1e-6)
                throw InputError(line, "beam line has no length");
            plan.beams.push_back(b);
        } else if (key == "PILE") {
            need(3, "x y k");
            PileInput p;
            p.p = {Number(f[1], line, "x"), Number(f[2], line, "y")};
            p.k = Positive(f[3], line, "pile stiffness");
            p.line = line;
            plan.piles.push_back(p);
        } else if (key == "COLUMN") {
            if (nValues < 3)
                throw InputError(line, "COLUMN takes x y and one load per case, found " +
                                           std::to_string(nValues) + " values");
            ColumnInput c;
            c.p = {Number(f[1], line, "x"), Number(f[2], line, "y")};
            for (size_t i = 3; i < f.size(); ++i)
                c.loads.push_back(Number(f[i], line, "load"));
            c.line = line;
            setCases(static_cast<int>(c.loads.size()));
            plan.columns.push_back(c);
        } else if (key == "AREA") {
            if (sawArea)
                throw InputError(line, "AREA given twice");
            if (nValues < 1)
                throw InputError(line, "AREA takes one load per case, found none");
            for (size_t i = 1; i < f.size(); ++i)
                plan.areaLoads.push_back(Number(f[i], line, "area load"));
            setCases(static_cast<int>(plan.areaLoads.size()));
            sawArea = true;
        } else {
            throw InputError(line, "unknown keyword '" + f[0] + "'");
        }
    }
    if (plan.beams.empty())
        throw InputError(0, "no LINE: the plan has no beams");
    if (plan.piles.empty())
        throw InputError(0, "no PILE: the plan has no piles");
    if (plan.nCases == 0)
        throw InputError(0, "no load case: give COLUMN or AREA loads");
    return plan;
}

}  // namespace pileraft
