// rvn-pile-raft [PLAN] [--svg FILE] [--case N]
// Reads a plan (the embedded default without PLAN, standard input for '-'), solves it and
// prints the report. Exit code 0 on success, 2 for a plan that cannot be read or solved
// (the message names the line), 1 when the picture cannot be written.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#include "PileRaft.h"

namespace {

const char* const kUsage =
    "usage: rvn-pile-raft [PLAN] [--svg FILE] [--case N]\n"
    "  PLAN        plan file ('-' for standard input); without it a built-in plan is run\n"
    "  --svg FILE  also write a plan picture (SVG) of load case N\n"
    "  --case N    load case of the picture, from 1 (default 1)\n"
    "  --help      this text and the plan format\n\n";

int Fail(int code, const std::string& message) {
    std::cerr << "rvn-pile-raft: " << message << "\n";
    return code;
}

// Written beside the target and renamed into place, so a failure leaves no partial file.
bool WriteFileAtomically(const std::string& path, const std::string& text) {
    const std::string tmp = path + ".tmp";
    {
        std::ofstream f(tmp, std::ios::binary | std::ios::trunc);
        if (!(f << text) || !f.flush()) {
            std::remove(tmp.c_str());
            return false;
        }
    }
    if (std::rename(tmp.c_str(), path.c_str()) != 0) {
        std::remove(tmp.c_str());
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    std::string planPath, svgPath;
    int loadCase = 1;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--help" || a == "-h") {
            std::cout << kUsage << pileraft::kPlanFormat;
            return 0;
        } else if (a == "--svg" && i + 1 < argc) {
            svgPath = argv[++i];
        } else if (a == "--case" && i + 1 < argc) {
            char* end = nullptr;
            const long n = std::strtol(argv[++i], &end, 10);
            if (*end != '\0' || n < 1 || n > 1000000)
                return Fail(2,
                            std::string("--case takes a load case number, not '") + argv[i] + "'");
            loadCase = static_cast<int>(n);
        } else if (!a.empty() && a[0] == '-' && a != "-") {
            return Fail(2, "unknown option '" + a + "' (see --help)");
        } else if (planPath.empty()) {
            planPath = a;
        } else {
            return Fail(2, "more than one plan given (see --help)");
        }
    }

    try {
        pileraft::Plan plan;
        if (planPath.empty()) {
            std::istringstream in(pileraft::kDefaultPlan);
            plan = pileraft::ReadPlan(in);
        } else if (planPath == "-") {
            plan = pileraft::ReadPlan(std::cin);
        } else {
            std::ifstream in(planPath);
            if (!in)
                return Fail(2, "cannot open plan '" + planPath + "'");
            plan = pileraft::ReadPlan(in);
        }
        if (loadCase > plan.nCases)
            return Fail(2, "--case " + std::to_string(loadCase) + ": the plan has " +
                               std::to_string(plan.nCases) + " load cases");
        const pileraft::Result result = pileraft::Analyse(plan);
        std::ostringstream report;
        pileraft::PrintReport(report, plan, result);
        if (!svgPath.empty()) {
            std::ostringstream svg;
            pileraft::WriteSvg(svg, plan, result, loadCase - 1);
            if (!WriteFileAtomically(svgPath, svg.str()))
                return Fail(1, "cannot write picture '" + svgPath + "'");
        }
        std::cout << report.str();
        if (!svgPath.empty())
            std::cout << "\nPicture of load case " << loadCase << ": " << svgPath << "\n";
        return 0;
    } catch (const pileraft::InputError& e) {
        return Fail(2, e.what());
    } catch (const pileraft::AnalysisError& e) {
        return Fail(2, e.what());
    } catch (const std::exception& e) {
        return Fail(1, std::string("internal error: ") + e.what());
    } catch (...) {
        return Fail(1, "internal error");
    }
}
