// The interpreter's entry points (filled in with the language).
