-- modor N=10000000: a while loop over i = 1 to N counting the i with i % 3 == 0 or i % 5 == 0; prints the count
local n, i, c = 10000000, 0, 0
while i < n do
  i = i + 1
  if i % 3 == 0 or i % 5 == 0 then c = c + 1 end
end
print(c)
