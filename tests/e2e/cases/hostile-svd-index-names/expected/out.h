// the header of an earlier run
