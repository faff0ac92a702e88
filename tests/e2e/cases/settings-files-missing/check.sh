# Without settings files the run creates none.
[ -z "$(find home -mindepth 1)" ]
