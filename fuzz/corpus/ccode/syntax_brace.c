if (x) {
  y = 2;
