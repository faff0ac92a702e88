[ -c /dev/full ]
