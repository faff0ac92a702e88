// old header
