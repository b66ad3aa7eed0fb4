init() { for (;;) ; }
