int n = 3, r; if (n < 0) r = -1; else if (n == 0) r = 0; else if (n < 10) r = 1; else r = 2;
if (n) if (r) r = 5; else r = 6;
if (r = 0) n = 1; else{ n = 2; }
