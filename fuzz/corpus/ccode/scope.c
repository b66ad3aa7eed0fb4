int x = 1, y, z; { int x = 2; y = x; x = 5; } z = x;
{ int t = 5; double u[3]; { bool w; } }
