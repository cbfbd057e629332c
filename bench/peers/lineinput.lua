-- lineinput N=1000000: every line of bench-lines.txt; the sum of the line lengths
local n = 1000000
local s, k = 0, 0
for line in io.lines("bench-lines.txt") do
  s = s + #line
  k = k + 1
  if k == n then break end
end
print(s)
