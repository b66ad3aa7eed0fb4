main() { do { } while (1); }
