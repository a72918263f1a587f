#!/bin/sh
# Prints a plan of NX by NY bays of 6 m, one LINE per bay edge, a pile under every grid
# point and a column on it, and an area load; for timing larger runs:
#   examples/pile_raft/grid_plan.sh 60 60 | rvn-pile-raft -
nx=${1:-10}
ny=${2:-10}
awk -v nx="$nx" -v ny="$ny" 'BEGIN {
  print "CONCRETE 35"; print "SECTION 0.6 1.2"; print "MESH 3"
  for (j = 0; j <= ny; j++) for (i = 0; i < nx; i++) printf "LINE %d %d %d %d\n", 6*i, 6*j, 6*i+6, 6*j
  for (i = 0; i <= nx; i++) for (j = 0; j < ny; j++) printf "LINE %d %d %d %d\n", 6*i, 6*j, 6*i, 6*j+6
  for (j = 0; j <= ny; j++) for (i = 0; i <= nx; i++) {
    printf "PILE %d %d %d\n", 6*i, 6*j, 300000
    printf "COLUMN %d %d %d %d\n", 6*i, 6*j, 1200 + 10*((i*7+j*3)%11), 300
  }
  print "AREA 20 4"
}'
