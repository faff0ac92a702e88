(exec -a regwright "$REGWRIGHT" map.xml out.h $'T\n#define X') 2>&1
echo "status $?"
