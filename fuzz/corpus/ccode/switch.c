int k = 1, y = 0; switch (k) { case 1: y = 1; case 2: y = 2; }
switch (7) { case 1: y += 1; default: y += 10; case 2: y += 100; break; }
switch (2.7) { case 1 + 1: y = 2; break; case 3: y = 3; }
switch (1) y = 4;
