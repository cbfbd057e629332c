-- scan N=1000000: the whole of bench-scan.txt (N characters) as one string, then s:sub(i, i) of every character in turn; the count of "a"
local f = assert(io.open("bench-scan.txt", "rb"))
local s = f:read("a")
f:close()
local c = 0
for i = 1, #s do
  if s:sub(i, i) == "a" then c = c + 1 end
end
print(c)
