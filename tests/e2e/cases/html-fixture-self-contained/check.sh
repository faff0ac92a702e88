# The fixture device's page: one file under 3 MB that names nothing outside
# itself (no scripts, styles, images or fonts to fetch, links only within it).
set -u
size=$(stat -c %s device.html)
echo "page weight ${size} bytes"
[ "$size" -lt 3000000 ] || { echo "page over 3 MB"; exit 1; }
if grep -n -i -E '<(link|img|iframe|object|embed)\b|src=|url\(|@import|https?:|//[a-z]' device.html | head -n 5 | grep .; then
  echo "page refers to something outside itself"; exit 1
fi
if grep -o 'href="[^"]*"' device.html | grep -v '^href="#' | head -n 5 | grep .; then
  echo "link that leaves the page"; exit 1
fi
grep -q '<tr id="USART1_DR"><th>USART1_DR<td>0x40013804' device.html || { echo "USART1_DR missing"; exit 1; }
