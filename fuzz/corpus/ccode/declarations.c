complex c = 2; double d = 7/2; float f; int64 l = 3; int i = 7.9; bool b = 5;
int a[3] = {1, 2, 3, 4}; int b2[] = {5, 6}; double c4[4] = {1.5};
int n = 2; double m[n + 1] = {n, n * 2, max(n, 7, 1)};
