// The owner of the test programs' precompiled header: it compiles nothing of its own.
