int n; while (1) { n++; }
