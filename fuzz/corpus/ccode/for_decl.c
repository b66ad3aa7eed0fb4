int s; for (int i = 0; i < 3; i++) s++;
