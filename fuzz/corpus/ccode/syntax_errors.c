while x < 3) x++;
if (x < (y) y = 3;
