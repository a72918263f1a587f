#include "PileRaft.h"

namespace pileraft {

const char* const kDefaultPlan =
#include "DefaultPlanText.inc"
    ;

const char* const kPlanFormat =
    R"(Plan format: one keyword and its values per line; '#' starts a comment.
  TITLE text             name of the plan, for the report and the picture
  CASE name1 name2 ...   names of the load cases, in order (at most 40 characters each)
  CONCRETE grade         concrete cube strength in MPa, C15 to C80 (default 30)
  SECTION b h            beam width and depth, m (default 0.4 0.8)
  MESH maxlen            longest beam element, m (default 1.0)
  LINE x1 y1 x2 y2 [q1 q2 ...]
                         beam centre line, m; lines are split where they cross or meet;
                         optional uniform load on it per load case, kN/m downward
  PILE x y k             pile on a beam, vertical stiffness in kN/m
  COLUMN x y P1 P2 ...   column load per load case, kN, downward positive; on a beam, or
                         inside a panel (its load then goes to the panel's corners)
  AREA q1 q2 ...         area load per load case on every panel, kPa
Every COLUMN, AREA, CASE and loaded LINE line gives the same number of load cases (at
most 1000). Coordinates are at most 1e9 m in size, SECTION sizes 100 m, loads 1e12.
)";

}  // namespace pileraft
