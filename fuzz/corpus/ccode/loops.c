int i, j, s = 0, n = 0;
while (i < 5) { s += i; i++; }
do n++; while (0);
do{ n += 2; }while(n < 7);
for (i = 0; i < 6; i++) { if (i % 2) continue; s += i; }
for (i = 0; ; i++) { if (i == 4) break; }
for (;;) if (++n >= 30) break;
for (i = 0; i < 3; i++) for (j = 0; j < 10; j++) { if (j == 2) break; n++; }
