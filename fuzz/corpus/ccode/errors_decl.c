int c[0]; int x; int x; int a[2000000000];
