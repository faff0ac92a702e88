mkdir out.dir
