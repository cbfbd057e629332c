-- inputfile N=1000000: a number and a text per line of bench-lines.txt; sum of numbers and lengths
local n = 1000000
local s, k = 0, 0
for line in io.lines("bench-lines.txt") do
  local a, b = line:match("^([^,]*),(.*)$")
  s = s + tonumber(a) + #b
  k = k + 1
  if k == n then break end
end
print(string.format("%.0f", s))
