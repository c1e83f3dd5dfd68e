# One line per benchmark program.
