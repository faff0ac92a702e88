the header of the last good map
