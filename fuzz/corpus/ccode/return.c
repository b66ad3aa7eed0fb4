int n = 0; main() { while (1) { n++; if (n == 3) return; } n = 100; }
