/*
 * cosim.c - a host program that closes a control loop around a simulated
 * circuit: the buck converter of buck.qvs (switch at 50 % duty, so its
 * output is half its supply) gets its supply voltage from a PI controller
 * written here, which holds the output at 10 V.
 *
 * Every 100 us of simulated time (ten switching periods) the host reads
 * the output voltmeter VM1, updates the controller and sets the supply V1,
 * which the library then uses from its next engine step:
 *   QVS_GetInput / QVS_SetInputValue  the supply, driven by the host
 *   QVS_GetOutput / QVS_GetOutputValue  the output, read by the host
 *   QVS_SimulateInterval               exactly one control period
 *
 * Usage: cosim_example [buck.qvs]
 * Exit status 0 when the output settles within 1 % of the set point.
 */
#include <math.h>
#include <stdio.h>

#include "qvs_dll.h"

int main(int argc, char** argv) {
  char* file = argc > 1 ? argv[1] : "examples/buck.qvs";
  char supply[] = "V1";
  char meter[] = "VM1";
  const double setpoint = 10.0; /* V */
  const double period = 100e-6; /* control period, s */
  const double kp = 0.05;       /* V of supply per V of error */
  const double ki = 1000.0;     /* V of supply per V of error and second */
  const double umax = 48.0;     /* supply limits, V */
  double integral = 0.0, u = 0.0, vout = 0.0, worst = 0.0;
  int ncir, nin, nout, k;

  ncir = QVS_Open(file);
  if (ncir < 0) {
    fprintf(stderr, "%s\n", QVS_GetError());
    return 1;
  }
  nin = QVS_GetInput(ncir, supply);
  nout = QVS_GetOutput(ncir, meter);
  if (nin < 0 || nout < 0 || QVS_SetInputValue(ncir, nin, 0.0) < 0) {
    fprintf(stderr, "%s\n", QVS_GetError());
    QVS_Close(ncir);
    return 1;
  }

  /* 30 ms: the loop settles in about 10 ms (its integral action is kept
   * well below the LC resonance at 1.6 kHz, where the filter's gain peaks);
   * the last 10 ms are checked. */
  for (k = 1; k <= 300; ++k) {
    double error;
    if (QVS_SimulateInterval(ncir, period) < 0 || QVS_GetOutputValue(ncir, nout, &vout) < 0) {
      fprintf(stderr, "%s\n", QVS_GetError());
      QVS_Close(ncir);
      return 1;
    }
    error = setpoint - vout;
    /* The integrator stops while the output is at a limit (anti-windup). */
    u = kp * error + ki * (integral + error * period);
    if (u > umax) {
      u = umax;
    } else if (u < 0.0) {
      u = 0.0;
    } else {
      integral += error * period;
    }
    QVS_SetInputValue(ncir, nin, u);
    if (k > 200 && fabs(error) > worst) worst = fabs(error);
    if (k % 25 == 0) printf("t = %5.1f ms  Vout = %7.4f V  supply = %7.4f V\n", k * 0.1, vout, u);
  }
  QVS_Close(ncir);
  printf("largest error over the last 10 ms: %.4f V (%.2f %%)\n", worst, 100.0 * worst / setpoint);
  return worst <= 0.01 * setpoint ? 0 : 1;
}
