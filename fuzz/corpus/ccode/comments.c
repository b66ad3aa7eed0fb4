x = 1; // one
/* a /* nested */ comment */ int y = 2; // no CR here
y = 3;
s = "// not /* a comment";
