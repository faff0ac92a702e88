# One line of 10,000 one-letter words: read in pieces of 1023 bytes, each
# piece holds more than 256 words and is dropped with an error.
python3 -c 'print(" ".join(["a"] * 10000))' > words
