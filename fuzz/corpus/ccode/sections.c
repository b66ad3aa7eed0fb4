int n = 5;
init() {
  n = 10;
}
main() {
  int local = 0;
  local++;
  n += local;
}
