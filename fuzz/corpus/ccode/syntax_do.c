do { x++; } until (x > 3);
