# An SVD file that is a pipe is read whole, as a map that is one is.
mkfifo dev.svd
(printf '%s' '<device><name>PIPED</name><peripherals><peripheral><name>P</name><baseAddress>0x40000000</baseAddress><registers><register><name>CR</name><addressOffset>4</addressOffset><fields><field><name>EN</name><bitOffset>0</bitOffset><bitWidth>1</bitWidth></field></fields></register></registers></peripheral></peripherals></device>' > dev.svd &)
