double d = 1; d |= 2; int i = 1; i /= 0; double r = sqrt(-4);
