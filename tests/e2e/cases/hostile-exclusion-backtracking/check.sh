# Within a second, every bit field kept.
[ "$(grep -c '_BIT ' out.h)" = 2000 ]
