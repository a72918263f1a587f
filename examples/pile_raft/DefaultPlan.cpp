#include "PileRaft.h"

namespace pileraft {

const char* const kDefaultPlan =
    R"(# A small building on a pile raft: three bays of 6 m by two bays of 7.5 m, a braced bay,
# and a 3 m cantilever carrying a balcony column.
TITLE Built-in plan: three bays on twelve piles
CASE dead imposed wind
CONCRETE 30
SECTION 0.5 1.0
MESH 1.5

# Beam grid, as continuous lines: they are split where they cross.
LINE 0 0 0 15
LINE 6 0 6 15
LINE 12 0 12 15
LINE 18 0 18 15
LINE 0 0 18 0
LINE 0 7.5 21 7.5
LINE 0 15 18 15
# Diagonal brace of the end bay.
LINE 12 0 18 7.5

# Piles under every grid intersection, stiffer under the core.
PILE 0 0 250000
PILE 6 0 250000
PILE 12 0 250000
PILE 18 0 250000
PILE 0 7.5 250000
PILE 6 7.5 400000
PILE 12 7.5 400000
PILE 18 7.5 250000
PILE 0 15 250000
PILE 6 15 250000
PILE 12 15 250000
PILE 18 15 250000

#      x    y     dead  imposed  wind
COLUMN 0    0     900   250     -120
COLUMN 6    0     1500  450     -60
COLUMN 12   0     1500  450     60
COLUMN 18   0     900   250     120
COLUMN 0    7.5   1600  500     -150
COLUMN 6    7.5   2600  800     -50
COLUMN 12   7.5   2600  800     50
COLUMN 18   7.5   1600  500     150
COLUMN 0    15    900   250     -120
COLUMN 6    15    1500  450     -60
COLUMN 12   15    1500  450     60
COLUMN 18   15    900   250     120
# Balcony column at the cantilever tip, and a post standing on the slab of one panel.
COLUMN 21   7.5   300   120     0
COLUMN 3    11    200   80      0

# Raft slab and fill on every panel, kPa.
AREA 25 5 0
)";

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
