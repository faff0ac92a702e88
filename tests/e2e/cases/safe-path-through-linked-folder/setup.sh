ln -s sub/dir gen
