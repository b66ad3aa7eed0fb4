// PI controller
double kp = 2.0, ki = 400.0, dt = 1e-4;
double ilim = 6.0, umax = 10.0;
double integ, e, u;
int mode, nsat;
init() {
  integ = 0; mode = 0; nsat = 0;
}
main() {
  double raw;
  e = x1 - x2;
  integ = lim(integ + ki * e * dt, -ilim, ilim);
  raw = kp * e + integ;
  if (raw > umax) u = umax;
  else if (raw < -umax) u = -umax;
  else u = raw;
  switch (mode) {
    case 0:
      if (raw > umax || raw < -umax) mode = 1;
      break;
    case 1:
      nsat++;
      if (abs(raw) < 0.9 * umax) mode = 0;
      break;
  }
  y1 = u;
}
