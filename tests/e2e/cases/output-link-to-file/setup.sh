printf "old\n" > target.h
ln -s target.h out.h
