# Settings files that are FIFOs nobody writes to, and a styles file that
# never ends: start-up must neither wait nor read for ever.
mkdir -p inst/bin home/.brackwater_associates_limited/"Larkspan for ARM/v4"
cp "$REGWRIGHT" inst/bin/regwright
ln -s /dev/zero inst/bin/styles.xml
mkfifo home/.brackwater_associates_limited/settings.xml home/.brackwater_associates_limited/"Larkspan for ARM/v4/settings.xml"
