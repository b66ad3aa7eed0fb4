int i1, i2, i3, i4; for (i1 = 0; i1 < 99; i1++) for (i2 = 0; i2 < 99; i2++) for (i3 = 0; i3 < 99; i3++) for (i4 = 0; i4 < 99; i4++) {}
