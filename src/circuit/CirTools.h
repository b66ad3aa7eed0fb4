#pragma once
// SCirTools: one circuit-wide editing command of the schematic editor
// (scaling values, clearing initial conditions and the like), handed to
// every component's CCmp::CirTools. The library never issues one itself;
// each element class documents the commands it answers, and ignores the
// others.

struct SCirTools {
  int command = 0;      // what to do; the element classes give the numbers
  int sub = 0;          // variant of the command
  bool flag = false;    // the command's option switch (its meaning per command)
  double value = 0.0;   // the first value: a factor, a divisor or a new value
  double value2 = 0.0;  // the second value, for commands that take two
};
