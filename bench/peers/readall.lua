-- readall N=100: the whole of bench-readall.txt (N MB) as one string; its length
local f = assert(io.open("bench-readall.txt", "rb"))
local t = f:read("a")
f:close()
print(#t)
